#pragma once

#include "abi/VxHelpersAbi.h"

#include <vector>

// The current-message records of the notifications being answered. A handler
// that causes another notification while answering one (moving the selection
// during a key notification) must not lose the outer record, so there is one
// record per notification in progress; the calls work on the innermost.
class NotificationStack
{
public:
    struct Record
    {
        VxAbi::HWND hwndFrom = 0;
        uint32_t code = 0;
        uint32_t msg = 0;
        VxAbi::WPARAM wParam = 0;
        VxAbi::LPARAM lParam = 0;
        VxAbi::LRESULT result = 0;
    };

    // Keeps a record on the stack for its lifetime.
    class Scope
    {
    public:
        explicit Scope(const Record &record);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        // The record as the handlers left it.
        Record record() const;

    private:
        std::size_t m_depth;
    };

    static NotificationStack &instance();

    // Outside any notification these give the last notification's record.
    VxAbi::HRESULT getInfo(VxAbi::HWND *hwndFrom, uint32_t *code, uint32_t *msg, VxAbi::WPARAM *wParam,
                           VxAbi::LPARAM *lParam) const;
    // E_INVALIDARG, changing nothing, unless a notification is in progress and
    // hwndFrom, code and msg identify the innermost one.
    VxAbi::HRESULT setInfo(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg, VxAbi::WPARAM wParam,
                           VxAbi::LPARAM lParam, VxAbi::LRESULT result);
    VxAbi::HRESULT setRetVal(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg, VxAbi::LRESULT result);

private:
    NotificationStack() = default;
    Record *matching(VxAbi::HWND hwndFrom, uint32_t code, uint32_t msg);

    std::vector<Record> m_records;
    Record m_last;
};
