#pragma once

#include <QString>
#include <functional>
#include <optional>

// Runs work in a forked child whose files may not grow beyond a size: a write past
// it fails with EFBIG ("File too large"), for any user, as on a disk that fills
// up in the middle. The limit stays in the child, so the test itself and its log
// are not touched by it. Returns what the work returned, or nullopt when no child
// could be started (the caller skips).
std::optional<QString> runWithFileSizeLimit(qint64 bytes, const std::function<QString()> &work);
