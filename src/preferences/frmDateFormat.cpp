#include "preferences/frmDateFormat.h"
#include "mainwindow/MenuTargets.h"

#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "platform/Desktop.h"
#include "platform/ModalOpener.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int DateFormatCaptionId = 89;
const QStringList OrderCaptions{QStringLiteral("Day - Month - Year"), QStringLiteral("Month - Day - Year"),
                                QStringLiteral("Year - Month - Day")};
const QStringList SeparatorCaptions{QStringLiteral("None"),           QStringLiteral("- (Dash)"),
                                    QStringLiteral("  (Space)"),      QStringLiteral(": (Colon)"),
                                    QStringLiteral("_ (Underscore)"), QStringLiteral(". (Dot)"),
                                    QStringLiteral("/ (Slash)"),      QStringLiteral(", (Comma)")};

// Position of the first occurrence counted from 1, 0 when absent.
int position(const QString &text, QChar c)
{
    return int(text.indexOf(c)) + 1;
}
} // namespace

frmDateFormat::frmDateFormat()
{
    // The caption is the catalog's, as the main window and the workspace give it.
    setWindowTitle(GetMsg(1, DateFormatCaptionId));
    setAttribute(Qt::WA_DeleteOnClose, true);
    setAttribute(Qt::WA_QuitOnClose, false);

    auto *Frame2 = new QGroupBox(QStringLiteral("&Order"), this);
    auto *orderLayout = new QVBoxLayout(Frame2);
    for (int i = 0; i < OrderCaptions.size(); ++i) {
        optOrder.append(new QRadioButton(OrderCaptions[i], Frame2));
        orderLayout->addWidget(optOrder.last());
        connect(optOrder.last(), &QRadioButton::clicked, this, [this, i] { optOrder_Click(i); });
    }
    auto *Frame1 = new QGroupBox(QStringLiteral("&Seperator"), this);
    auto *separatorLayout = new QGridLayout(Frame1);
    for (int i = 0; i < SeparatorCaptions.size(); ++i) {
        optSeperator.append(new QRadioButton(SeparatorCaptions[i], Frame1));
        separatorLayout->addWidget(optSeperator.last(), i % 4, i / 4);
        connect(optSeperator.last(), &QRadioButton::clicked, this, [this, i] { optSeperator_Click(i); });
    }
    auto *Label4 = new QLabel(QStringLiteral(" Desired &Format"), this);
    lstDate = new QListWidget(this);
    Label4->setBuddy(lstDate);
    connect(lstDate, &QListWidget::currentRowChanged, this, [this] { lstDate_Click(); });
    lblSamples = new QLabel(QStringLiteral("Sample Dates:"), this);
    lblSamples->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto *grid = new QGridLayout(this);
    grid->addWidget(Frame2, 0, 0);
    grid->addWidget(Frame1, 0, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(Label4);
    left->addWidget(lstDate);
    grid->addLayout(left, 1, 0);
    grid->addWidget(lblSamples, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    FormLoad();
}

void frmDateFormat::ShowModal()
{
    ModalOpener<frmDateFormat>::show();
}

void frmDateFormat::Register()
{
    MenuTargets::Register(MenuTargets::DateFormat, {{}, {}, [] { ShowModal(); }});
}

std::function<void()> frmDateFormat::setShowModal(std::function<void()> show)
{
    return ModalOpener<frmDateFormat>::replace(std::move(show));
}

QStringList frmDateFormat::BasePatterns(int order)
{
    switch (order) {
    case 0:
        return {QStringLiteral("dd-MM-yy"), QStringLiteral("dd-MM-yyyy"), QStringLiteral("dd-MMM-yy"),
                QStringLiteral("dd-MMM-yyyy")};
    case 1:
        return {QStringLiteral("MM-dd-yy"), QStringLiteral("MM-dd-yyyy"), QStringLiteral("MMM-dd-yy"),
                QStringLiteral("MMM-dd-yyyy")};
    default:
        return {QStringLiteral("yy-MM-dd"), QStringLiteral("yyyy-MM-dd"), QStringLiteral("yy-MMM-dd"),
                QStringLiteral("yyyy-MMM-dd")};
    }
}

QString frmDateFormat::FormatDate(const QDate &date, const QString &pattern)
{
    return QLocale().toString(date, pattern);
}

void frmDateFormat::select(QRadioButton *option)
{
    option->setChecked(true);
    Q_EMIT option->clicked(true);
}

QString frmDateFormat::ApplySeparator(QString pattern) const
{
    return pattern.replace(QLatin1Char('-'), m_currentSeparator);
}

void frmDateFormat::FillFormatList()
{
    const int selected = lstDate->currentRow();
    {
        const QSignalBlocker blocker(lstDate);
        lstDate->clear();
        const int order = optOrder[0]->isChecked() ? 0 : optOrder[1]->isChecked() ? 1 : 2;
        for (const QString &pattern : BasePatterns(order))
            lstDate->addItem(ApplySeparator(pattern));
    }
    lstDate->setCurrentRow(selected >= 0 ? selected : 3);
    lstDate_Click();
}

void frmDateFormat::FormLoad()
{
    // No pattern at all shows the one the program uses when none is set.
    const QString s = (gDateFormat.isEmpty() ? Preferences{}.dateFormat : gDateFormat).toLower();
    const int d = position(s, QLatin1Char('d')), m = position(s, QLatin1Char('m')),
              y = position(s, QLatin1Char('y'));
    if (y < m && m < d)
        select(optOrder[2]);
    else if (m < d && d < y)
        select(optOrder[1]);
    else
        select(optOrder[0]);
    select(optSeperator[0]);
    for (int i = 1; i <= Separators.size(); ++i)
        if (s.contains(Separators[i - 1]))
            select(optSeperator[i]);
    lstDate->setCurrentRow(2 * int(s.contains(QStringLiteral("mmm"))) +
                           int(s.contains(QStringLiteral("yyyy"))));
}

void frmDateFormat::optOrder_Click(int)
{
    FillFormatList();
}

void frmDateFormat::optSeperator_Click(int index)
{
    m_currentSeparator.clear();
    if (index >= 1 && index <= Separators.size())
        m_currentSeparator = Separators[index - 1];
    FillFormatList();
}

void frmDateFormat::lstDate_Click()
{
    const QString pattern = lstDate->currentItem() ? lstDate->currentItem()->text() : QString();
    QString text = QStringLiteral("Sample Dates:");
    for (const QDate &date : {desktop().now().date(), QDate(2000, 1, 2), QDate(1999, 12, 25)})
        text += QStringLiteral("\n     ") + FormatDate(date, pattern);
    lblSamples->setText(text);
}

void frmDateFormat::cmdOK_Click()
{
    const QString pattern = lstDate->currentItem() ? lstDate->currentItem()->text() : QString();
    if (!pattern.isEmpty()) {
        gDateFormat = pattern;
        if (Registry_::StoreChoices([] { SaveString(QStringLiteral("DF"), gDateFormat); }))
            desktop().messageBox(GetMsg(0, 7, gDateFormat), MsgBoxStyle::Information,
                                 QStringLiteral("Settings Updated ") + MiscHelpers::ProductTitle());
    }
    close();
}

void frmDateFormat::cmdCancel_Click()
{
    close();
}
