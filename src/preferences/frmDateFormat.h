#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

// Picks the date pattern the program shows dates in: a field order, a separator
// and one of four patterns, with three sample dates.
class frmDateFormat : public QDialog
{
    Q_OBJECT

public:
    frmDateFormat();

    static void ShowModal();
    static void Register();
    static std::function<void()> setShowModal(std::function<void()> show);

    // The four base patterns of a field order (0 day-month-year, 1 month-day-year,
    // 2 year-month-day); index 2 x (month by name) + (four-digit year).
    static QStringList BasePatterns(int order);
    // The separator characters, from index 1; index 0 is "None".
    static inline const QString Separators = QStringLiteral("- :_./,");
    // The date in the pattern, as every date of the program is shown.
    static QString FormatDate(const QDate &date, const QString &pattern);

    void optOrder_Click(int index);
    void optSeperator_Click(int index);
    void lstDate_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    QList<QRadioButton *> optOrder;
    QList<QRadioButton *> optSeperator;
    QListWidget *lstDate = nullptr;
    QLabel *lblSamples = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    QString CurrentSeparator() const { return m_currentSeparator; }

private:
    QString ApplySeparator(QString pattern) const;
    void FillFormatList();
    void FormLoad();
    // Checks an option; its handler runs even when it was checked already.
    static void select(QRadioButton *option);

    QString m_currentSeparator;
};
