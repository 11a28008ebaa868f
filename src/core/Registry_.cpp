#include "core/Registry_.h"
#include "core/Bug_.h"
#include "core/CheckedNumber.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/AppInfo.h"
#include "platform/Seams.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "platform/VbConvert.h"
#include "platform/VbText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QWidget>
#include <optional>
#include <utility>

namespace {
// Catalog texts: the settings cannot be saved; a dialog's choices were not saved.
constexpr int SettingsNotSavedMsg = 271;
constexpr int ChoicesNotSavedMsg = 272;
constexpr int DamagedSettingsMsg = 274;

struct SaveNotice
{
    bool given = false;
    int dialogsStoring = 0;
};

SaveNotice &saveNotice()
{
    static SaveNotice notice;
    Seams::OnReset(&notice, [] { notice = {}; });
    return notice;
}

void tellSaveFailure(const QString &folder, const QString &reason)
{
    SaveNotice &notice = saveNotice();
    if (notice.given || notice.dialogsStoring > 0)
        return;
    notice.given = true;
    Bug_::ReportFileFault(SettingsNotSavedMsg, folder, reason);
}

// Damaged lines the reader was told of at start, with the copy named then.
QStringList &toldAtStart()
{
    static QStringList told;
    Seams::OnReset(&told, [] { told.clear(); });
    return told;
}

void showDamage(const QString &file, const QString &keptCopy, const QStringList &lines)
{
    desktop().messageBox(MsgSupport::GetMsgListing(DamagedSettingsMsg, file, lines) +
                             QStringLiteral("\r\n\r\n") + keptCopy,
                         MsgBoxStyle::Exclamation, QString());
}

// The copy is made before the first write. Told of at start, it is not told
// again, unless it went to another copy than the one named then.
void tellDamage(const QString &file, const QString &keptCopy, const QStringList &lines)
{
    const QStringList kept = QStringList{file, keptCopy} + lines;
    if (std::exchange(toldAtStart(), QStringList()) == kept)
        return;
    showDamage(file, keptCopy, lines);
}
} // namespace

namespace Registry_ {

void Initialize(const QString &name)
{
    gSettingsSection = VbText::Trim(name);
    Assert(!gSettingsSection.isEmpty(),
           QStringLiteral("Registry_.Initialize() cannot be called with an empty string! ('") + name +
               QStringLiteral("')"));
    SettingsStore::setSaveFailureHandler(tellSaveFailure);
    SettingsStore::setDamageHandler(tellDamage);
}

void TellDamagedSettings()
{
    const SettingsStore &settings = SettingsStore::instance();
    QString copy;
    const QStringList lines = settings.unreadLines(&copy);
    if (lines.isEmpty())
        return;
    toldAtStart() = QStringList{settings.filePath(), copy} + lines;
    showDamage(settings.filePath(), copy, lines);
}

bool StoreChoices(const std::function<void()> &store)
{
    SaveNotice &notice = saveNotice();
    ++notice.dialogsStoring;
    const auto stored = qScopeGuard([&notice] { --notice.dialogsStoring; });
    store();
    const SettingsStore &settings = SettingsStore::instance();
    if (!settings.hasUnsavedChanges())
        return true;
    notice.given = true;
    Bug_::ReportFileFault(ChoicesNotSavedMsg, settings.folder(), settings.saveError());
    return false;
}

QString ResolveSection(const QString &section)
{
    if (section != DefaultSection)
        return section;
    Assert(!gSettingsSection.isEmpty(), QStringLiteral("Registry_.Initialize() was not called!"));
    return gSettingsSection.isEmpty() ? QStringLiteral("Default") : gSettingsSection;
}

void SaveString(const QString &key, const QString &value, const QString &section)
{
    SettingsStore::instance().setValue(ResolveSection(section), key, value);
}

void SaveBoolean(const QString &key, bool value, const QString &section)
{
    SaveString(key, VbConvert::fromBoolean(value), section);
}

void SaveSingle(const QString &key, float value, const QString &section)
{
    SaveString(key, VbConvert::fromSingle(value), section);
}

void SaveInteger(const QString &key, qint16 value, const QString &section)
{
    SaveString(key, QString::number(value), section);
}

void SaveLong(const QString &key, qint32 value, const QString &section)
{
    SaveString(key, QString::number(value), section);
}

QString GetString(const QString &key, const QString &defaultValue, const QString &section)
{
    return SettingsStore::instance().value(ResolveSection(section), key, defaultValue);
}

bool ParseBoolean(const QString &text)
{
    const QString lower = text.toLower();
    return !(lower == QLatin1String("0") || lower.isEmpty() || lower == QLatin1String("false") ||
             lower == QLatin1String("f") || lower == QLatin1String("no") || lower == QLatin1String("n"));
}

bool GetBoolean(const QString &key, bool defaultValue, const QString &section)
{
    const QString text = GetString(key, AbsentMarker, section);
    if (text == AbsentMarker)
        return defaultValue;
    return ParseBoolean(text);
}

// The stored Single; none when the key is missing or its text is no number.
static std::optional<float> StoredSingle(const QString &key, const QString &section)
{
    const QString text = GetString(key, AbsentMarker, section);
    if (text == AbsentMarker)
        return std::nullopt;
    return VbConvert::toSingle(VbText::Trim(text));
}

float GetSingle(const QString &key, float defaultValue, const QString &section)
{
    return StoredSingle(key, section).value_or(defaultValue);
}

qint16 GetInteger(const QString &key, qint16 defaultValue, const QString &section)
{
    const QString text = GetString(key, AbsentMarker, section);
    if (text == AbsentMarker)
        return defaultValue;
    return VbConvert::toInt16(VbText::Trim(text)).value_or(defaultValue);
}

qint32 GetLong(const QString &key, qint32 defaultValue, const QString &section)
{
    const QString text = GetString(key, AbsentMarker, section);
    if (text == AbsentMarker)
        return defaultValue;
    return VbConvert::toInt32(VbText::Trim(text)).value_or(defaultValue);
}

void DeleteSection(const QString &section)
{
    SettingsStore::instance().removeSection(ResolveSection(section));
}

FormPosition ReadFormPosition(const QString &prefix, const FormPosition &defaults)
{
    QRect desktop(0, 0, 1024, 768);
    if (QScreen *primary = QGuiApplication::primaryScreen())
        desktop = primary->virtualGeometry();
    const float x = float(Twips::fromPixelsX(desktop.x())), y = float(Twips::fromPixelsY(desktop.y()));
    const float width = float(Twips::fromPixelsX(desktop.width()));
    const float height = float(Twips::fromPixelsY(desktop.height()));
    const auto read = [&prefix](const char *name, float defaultValue, CheckedNumber::Range<float> range) {
        return CheckedNumber::Within(StoredSingle(prefix + QLatin1String(name), DefaultSection), range,
                                     defaultValue);
    };
    return {read("Left", defaults.left, {x - width, x + width}),
            read("Top", defaults.top, {y - height, y + height}), read("Width", defaults.width, {0, width}),
            read("Height", defaults.height, {0, height})};
}

void SaveFormPosition(const QString &prefix, QWidget *form)
{
    if (!form || !form->isVisible() || form->isMinimized() || form->isMaximized())
        return;
    // The window's own size without the frame: the frame's size is known only
    // once a window is shown, so a size with it would grow at every restore.
    const QPoint position = form->pos();
    const QSize size = form->size();
    SaveSingle(prefix + QStringLiteral("Left"), float(Twips::fromPixelsX(position.x())));
    SaveSingle(prefix + QStringLiteral("Top"), float(Twips::fromPixelsY(position.y())));
    SaveSingle(prefix + QStringLiteral("Width"), float(Twips::fromPixelsX(size.width())));
    SaveSingle(prefix + QStringLiteral("Height"), float(Twips::fromPixelsY(size.height())));
}

// A window whose controls need more room than its stored or default size grows
// past it when shown; it is moved back so that it does not run off the screen.
static QPoint KeptOnScreen(QPoint position, const QWidget &form)
{
    const QScreen *screen = QGuiApplication::screenAt(position);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return position;
    const QRect room = screen->availableGeometry();
    const QSize needed = form.size().expandedTo(form.minimumSizeHint());
    position.setX(std::max(room.left(), std::min(position.x(), room.right() + 1 - needed.width())));
    position.setY(std::max(room.top(), std::min(position.y(), room.bottom() + 1 - needed.height())));
    return position;
}

bool RestoreFormPosition(const QString &prefix, QWidget *form)
{
    auto [left, top, width, height] = ReadFormPosition(prefix, {});

    QRect screen(0, 0, 1024, 768);
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    const double screenWidth = Twips::fromPixelsX(screen.width());
    const double screenHeight = Twips::fromPixelsY(screen.height());

    bool accepted = true;
    if (width < 2000 || height < 2000 || width >= screenWidth || height >= screenHeight) {
        accepted = false;
        width = height = 8000;
        QWidget *active = QApplication::activeWindow();
        if (active && active != form) {
            const QRect a = active->frameGeometry();
            left = float(Twips::fromPixelsX(a.x()) + Twips::fromPixelsX(a.width()) / 2 - 4000);
            top = float(Twips::fromPixelsY(a.y()) + Twips::fromPixelsY(a.height()) / 3 - 8000.0 / 3);
        } else {
            left = float(screenWidth / 2 - 4000);
            top = float(screenHeight / 3 - 8000.0 / 3);
        }
        left = std::max(left, 0.0f);
        top = std::max(top, 0.0f);
    }
    if (form) {
        form->resize(std::max(1, Twips::toPixelsX(width)), std::max(1, Twips::toPixelsY(height)));
        form->move(KeptOnScreen(QPoint(Twips::toPixelsX(left), Twips::toPixelsY(top)), *form));
    }
    return accepted;
}

} // namespace Registry_
