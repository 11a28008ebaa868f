#include "core/PageSettings.h"
#include "core/CheckedNumber.h"
#include "core/GlobalVars.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/VbConvert.h"

#include <QTextDocument>

namespace {
const QString Settings = QStringLiteral("Settings");
const QString Absent = QStringLiteral("\x01");

QString stored(const QString &key)
{
    return SettingsStore::instance().value(Settings, key, Absent);
}

bool readBoolean(const QString &key, bool defaultValue)
{
    const QString text = stored(key);
    return text == Absent ? defaultValue : VbConvert::toBoolean(text).value_or(defaultValue);
}

float readLength(const QString &key, float defaultValue, CheckedNumber::Range<float> range)
{
    const QString text = stored(key);
    return text == Absent ? defaultValue
                          : CheckedNumber::Within(PageSettings::ParseLength(text), range, defaultValue);
}

void save(const QString &key, const QString &text)
{
    SettingsStore::instance().setValue(Settings, key, text);
}

// Booleans are stored as the text of a 16-bit integer.
QString booleanText(bool value)
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}
} // namespace

namespace PageSettings {

float TwipsPerUnit()
{
    return gCM_IN ? TwipsPerInch : TwipsPerMillimetre;
}

std::optional<float> ParseLength(const QString &text)
{
    QString number = text.trimmed();
    // Settings written where "," is the decimal separator are read as meant.
    if (number.count(QLatin1Char(',')) == 1 && !number.contains(QLatin1Char('.')))
        number.replace(QLatin1Char(','), QLatin1Char('.'));
    return VbConvert::toSingle(number);
}

QString LengthText(float value)
{
    return VbConvert::fromSingle(value);
}

void ReadPageSettings(bool withApplyToAllForms)
{
    const PageSettingValues defaults;
    gCM_IN = readBoolean(QStringLiteral("CM_IN"), defaults.inches);
    // The lengths are in the unit just read.
    const auto width = gCM_IN ? PageSettingValues::WidthInches : PageSettingValues::WidthMillimetres;
    const auto margin = gCM_IN ? PageSettingValues::MarginInches : PageSettingValues::MarginMillimetres;
    gWidthPage = readLength(QStringLiteral("WidthPage"), defaults.widthPage, width);
    gMarginLeft = readLength(QStringLiteral("MarginLeft"), defaults.marginLeft, margin);
    gMarginRight = readLength(QStringLiteral("MarginRight"), defaults.marginRight, margin);
    gFitToDesktop = readBoolean(QStringLiteral("FitToDesktop"), defaults.fitToDesktop);
    gTopMargin = readLength(QStringLiteral("gTopMargin"), defaults.topMargin, margin);
    gBottomMargin = readLength(QStringLiteral("gBottomMargin"), defaults.bottomMargin, margin);
    if (withApplyToAllForms)
        gApplyToAllForms = readBoolean(QStringLiteral("ApplyToAllForms"), defaults.applyToAllForms);
}

CheckedNumber::Range<float> OfferedWidth()
{
    return gCM_IN ? PageSettingValues::OfferedWidthInches : PageSettingValues::OfferedWidthMillimetres;
}

CheckedNumber::Range<float> OfferedMargin()
{
    return gCM_IN ? PageSettingValues::OfferedMarginInches : PageSettingValues::OfferedMarginMillimetres;
}

void SavePageSettings()
{
    save(QStringLiteral("CM_IN"), booleanText(gCM_IN));
    const auto saveLength = [](const QString &key, float value, CheckedNumber::Range<float> offered) {
        if (offered.contains(value))
            save(key, LengthText(value));
    };
    saveLength(QStringLiteral("WidthPage"), gWidthPage, OfferedWidth());
    saveLength(QStringLiteral("MarginLeft"), gMarginLeft, OfferedMargin());
    saveLength(QStringLiteral("MarginRight"), gMarginRight, OfferedMargin());
    saveLength(QStringLiteral("gTopMargin"), gTopMargin, OfferedMargin());
    saveLength(QStringLiteral("gBottomMargin"), gBottomMargin, OfferedMargin());
}

void SaveFitToDesktop()
{
    save(QStringLiteral("FitToDesktop"), booleanText(gFitToDesktop));
}

void SaveApplyToAllForms()
{
    save(QStringLiteral("ApplyToAllForms"), booleanText(gApplyToAllForms));
}

PaneLayout PageLayoutOfSettings()
{
    const float factor = TwipsPerUnit();
    gPageWidthTwips = gWidthPage * factor;
    return PaneLayout{gPageWidthTwips - gMarginRight * factor, gMarginLeft * factor};
}

} // namespace PageSettings

void ApplyPageLayout(RichTextBox &pane)
{
    const PageSettings::PaneLayout layout = PageSettings::PageLayoutOfSettings();
    pane.setRightMargin(gFitToDesktop ? 0 : layout.rightMargin);
    pane.setPageIndent(gFitToDesktop ? 0 : layout.indent);
}

void ApplyPageLayoutToWholeText(RichTextBox &pane)
{
    WithWholeTextSelected(pane, [&pane] { ApplyPageLayout(pane); });
}

void WithWholeTextSelected(RichTextBox &pane, const std::function<void()> &change)
{
    const int start = pane.SelStart();
    const int length = pane.SelLength();
    // The page's layout is no edit: a saved document stays saved.
    const bool changed = pane.document()->isModified();
    pane.setSelStart(0);
    pane.setSelLength(pane.endPosition());
    change();
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.document()->setModified(changed);
}
