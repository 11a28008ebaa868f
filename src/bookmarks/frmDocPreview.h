#pragma once

#include <QDialog>
#include <QMarginsF>
#include <QSize>
#include <functional>
#include <memory>

class PageLayout;
class PageLayoutCache;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QToolButton;

// The print preview: a document page by page as it will print, at five zoom
// levels. Its Print button only asks for printing; DocPreviewProc prints once
// the window has closed.
class frmDocPreview : public QDialog
{
    Q_OBJECT

public:
    // Shows the layout DocPreviewProc prepared (an empty document without one).
    frmDocPreview();
    ~frmDocPreview() override;

    // File > Print Preview of the search workspace: its registered document.
    static void DocPreviewProc();
    // Sets the print margins from the page settings, previews the pane's
    // document modally and prints it when the preview's Print was pressed.
    // Printing is refused while `owner` is minimised.
    static void DocPreviewProc(QTextEdit &pane, QWidget *owner);
    // Asks for the printer and the pages, then prints them with the print margins.
    static void DocPrintProc();
    static void DocPrintProc(QTextEdit &pane, QWidget *owner);

    // Makes the preview reachable from the workspace's File menu.
    static void Register();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // The print margins (inches) from the page settings: millimetres become
    // inches, and with fit to window the side margins are 0.
    static void SetPrintMargins();
    static QMarginsF PrintMargins();

    // The size in pixels of zoom picture 1-5 ("150", "100", "75", "50", "25")
    // for a printable area given in twips: "150" has 1.5 times the page's area.
    static QSize ZoomPictureSize(int zoomIndex, const QSizeF &printableTwips);

    void cboPageNo_Click();
    void cmdPrevPage_Click();
    void cmdNextPage_Click();
    void cboScale_Click();
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();
    void cmdPrint_Click();
    void cmdClose_Click();

    int PageCount = 0;
    int ZoomIndex = 5;

    QToolButton *cmdPrint = nullptr;
    QToolButton *cmdZoomIn = nullptr;
    QToolButton *cmdZoomOut = nullptr;
    QComboBox *cboScale = nullptr;
    QPushButton *cmdPrevPage = nullptr;
    QPushButton *cmdNextPage = nullptr;
    QComboBox *cboPageNo = nullptr;
    QLineEdit *txtTotalPages = nullptr;
    QPushButton *cmdClose = nullptr;
    QWidget *PicZ = nullptr;
    QLabel *Pic[6] = {}; // Pic[1] to Pic[5]
    QScrollBar *VScroll1 = nullptr;
    QScrollBar *HScroll1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Prints with the layouts the preview made: paper left as it was is not laid out again.
    static void DocPrintProc(QTextEdit &pane, QWidget *owner, PageLayoutCache &layouts);
    void buildControls();
    void Form_Load();
    bool FormPreviewPage(int page);
    bool ShowZoomedPages(int page, int zoomIndex);
    void LayoutPages();
    void UpdatePageButtons();
    void UpdateZoomButtons();
    void ShowPage(int page);
    int ShownPageNumber() const;

    std::shared_ptr<const PageLayout> m_layout;
    QSizeF m_printableTwips;
    bool m_drawing = false;
    int m_pendingPage = 0; // a page chosen while the pictures are drawn
};
