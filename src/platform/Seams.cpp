#include "platform/Seams.h"

#include <utility>
#include <vector>

namespace {
struct Registration
{
    const void *key;
    std::function<void()> action;
};

std::vector<Registration> &releases()
{
    static std::vector<Registration> list;
    return list;
}

std::vector<Registration> &resets()
{
    static std::vector<Registration> list;
    return list;
}

void add(std::vector<Registration> &list, const void *key, std::function<void()> action)
{
    for (const Registration &r : list)
        if (r.key == key)
            return;
    list.push_back({key, std::move(action)});
}

void runAll(const std::vector<Registration> &list)
{
    // A copy: an action may register another seam as it runs.
    const std::vector<Registration> actions = list;
    for (const Registration &r : actions)
        r.action();
}
} // namespace

namespace Seams {

void OnReset(const void *key, std::function<void()> reset)
{
    add(resets(), key, std::move(reset));
}

void OnRelease(const void *key, std::function<void()> release)
{
    add(releases(), key, std::move(release));
}

void ResetAll()
{
    runAll(releases());
    runAll(resets());
}

} // namespace Seams
