// A commentary module: the notes of a few chapters.
#include "FuzzCase.h"
#include "core/GlobalVars.h"
#include "core/TranslationHelpers.h"
#include "study/CommentaryText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    input.write(QStringLiteral("Modules/Commentary/c_fuzz.txt"));
    gCommentaries.Add(QStringLiteral("c_fuzz.txt"), QStringLiteral("c_fuzz.txt"), true, 0);
    FuzzCase::refused([] {
        const auto commentary = TranslationHelpers::GetCommentary(gCommentaries.Count() - 1);
        for (const auto [book, chapter] : {std::pair{1, 1}, std::pair{19, 23}, std::pair{40, 1}})
            CommentaryText::PaneText(CommentaryText::ChapterNotes(*commentary, book, chapter));
    });
    return 0;
}
