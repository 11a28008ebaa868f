#include "VxHelpers/NotificationStack.h"

NotificationStack::Scope::Scope(const Record &record)
{
    std::vector<Record> &records = instance().m_records;
    records.push_back(record);
    m_depth = records.size();
}

NotificationStack::Scope::~Scope()
{
    NotificationStack &stack = instance();
    stack.m_last = stack.m_records[m_depth - 1];
    stack.m_records.resize(m_depth - 1);
}

NotificationStack::Record NotificationStack::Scope::record() const
{
    return instance().m_records[m_depth - 1];
}

NotificationStack &NotificationStack::instance()
{
    static NotificationStack stack;
    return stack;
}

VxAbi::HRESULT NotificationStack::getInfo(VxAbi::HWND *hwndFrom, uint32_t *code, uint32_t *msg,
                                          VxAbi::WPARAM *wParam, VxAbi::LPARAM *lParam) const
{
    if (!hwndFrom || !code || !msg || !wParam || !lParam)
        return VxAbi::E_INVALIDARG;
    const Record &record = m_records.empty() ? m_last : m_records.back();
    *hwndFrom = record.hwndFrom;
    *code = record.code;
    *msg = record.msg;
    *wParam = record.wParam;
    *lParam = record.lParam;
    return VxAbi::S_OK;
}

VxAbi::HRESULT NotificationStack::setInfo(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg,
                                          VxAbi::WPARAM wParam, VxAbi::LPARAM lParam, VxAbi::LRESULT result)
{
    Record *record = matching(hwndFrom, code, msg);
    if (!record)
        return VxAbi::E_INVALIDARG;
    record->wParam = wParam;
    record->lParam = lParam;
    record->result = result;
    return VxAbi::S_OK;
}

VxAbi::HRESULT NotificationStack::setRetVal(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg,
                                            VxAbi::LRESULT result)
{
    Record *record = matching(hwndFrom, code, msg);
    if (!record)
        return VxAbi::E_INVALIDARG;
    record->result = result;
    return VxAbi::S_OK;
}

NotificationStack::Record *NotificationStack::matching(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg)
{
    if (m_records.empty())
        return nullptr;
    Record &innermost = m_records.back();
    if (innermost.hwndFrom != hwndFrom || innermost.code != code || innermost.msg != msg)
        return nullptr;
    return &innermost;
}
