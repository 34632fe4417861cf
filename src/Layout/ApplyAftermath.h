// What an apply leaves running once it has returned — the late windows and the browser
// tabs that follow a late window — for a caller that must see it end (the command line,
// whose process would otherwise end first): how each late window ended, and when all of
// it is over. Copies share one record.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Platform/Runtime/Task.h"

namespace kestr {

class ApplyAftermath {
public:
    ApplyAftermath();

    // Starts `work` on the main actor; the aftermath lasts until it ends.
    void start(Task<void> work);
    // Says how one late window ended, in a line without the log's tag.
    void ended(const std::string& outcome);
    // Hands `listener` every outcome said so far, then each one as it is said.
    void listen(std::function<void(const std::string&)> listener);
    // Ends once the work started so far, and any started meanwhile, has ended; at once
    // when none runs.
    Task<void> over() const;

    // Alike when as much runs and the same outcomes were said.
    friend bool operator==(const ApplyAftermath& a, const ApplyAftermath& b);

private:
    struct Record;
    static Task<void> counted(std::shared_ptr<Record> record, Task<void> work);
    static Task<void> ends(std::shared_ptr<Record> record);
    std::shared_ptr<Record> record_;
};

}  // namespace kestr
