#pragma once

class RichTextBox;

// Printing the workspace's document: the print dialog opens with the selection
// chosen when text is selected, and what it chose prints over the page layout
// that the preview shows.
namespace DocumentPrinting {
void Print(RichTextBox &pane);
// The printer's set-up dialog, without printing.
void PrintSetup();
} // namespace DocumentPrinting
