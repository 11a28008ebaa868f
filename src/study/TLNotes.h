#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

#include "study/PaneLook.h"

class QComboBox;
class QPushButton;
class RichTextBox;

// The translation notes: one topic of "TLNotes.txt" at a time, chosen from a
// sorted list of the topic titles, and printed on its own.
class TLNotes : public QWidget
{
    Q_OBJECT

public:
    // Loads the window (hidden); a missing or unreadable notes file raises the
    // error to the opener.
    TLNotes();
    ~TLNotes() override;

    // Makes the window reachable from the main window's menu.
    static void Register();

    // The notes file of the module folder.
    static QString NotesFile();
    // The topic titles in the order of the file. Raises when the file cannot be read.
    static QStringList ReadTitles(const QString &path);
    // The note of the first topic of that title (each line followed by CR LF), or
    // nullopt when no topic has it. Raises when the file cannot be read.
    static std::optional<QString> ReadNote(const QString &path, const QString &title);

    void Combo1_Click();
    void PrintPreview_Click();

    QComboBox *Combo1 = nullptr;
    RichTextBox *RT = nullptr;
    QPushButton *PrintPreview = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void DoSetFocus();

    PanePageLayout m_pageLayout;
};
