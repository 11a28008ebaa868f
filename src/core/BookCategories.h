#pragma once

#include "core/BookCategories_Entry.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// The named, nested categories of books from "Categories.txt" in the SysDefs
// folder, with their names from "Categories_<LANGUAGE>.txt".
class BookCategories
{
public:
    // Loads the categories; failures are reported and the categories read so far stay.
    BookCategories();

    // Reads the names of the categories again from the language's names file.
    void LoadLanguageFile(const QString &categoriesPath);
    qint16 CountOfCategories() const { return qint16(m_entries.size()); }
    // Each of these raises RuntimeError 9 for a category outside the list.
    QString ShortNameOfCategory(int i) const;
    QString LongNameOfCategory(int i) const;
    // Nesting depth: 0 for a category whose parent is the root category 0.
    int IndentOfCategory(int i) const;
    qint32 ParentCategoryOfCategory(int i) const;
    bool IsBookInCategory(int i, int ibook) const;

private:
    void LoadCategoriesFile(const QString &path);
    const BookCategories_Entry &Entry(int i) const;
    // Each category by the key text of its ID (the first of two with the same ID).
    QHash<QString, BookCategories_Entry *> ByKey() const;
    std::vector<int> Depths() const;

    std::vector<std::unique_ptr<BookCategories_Entry>> m_entries;
    mutable std::vector<int> m_depths; // IndentOfCategory of each, worked out at the first call
};
