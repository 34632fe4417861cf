// A desktop file's Exec line read for its field codes (%u, %F, …) and where each one
// stands in the line as GLib's shell parser reads it: a word of its own outside any
// quotes, or not; and whether that word is the code a shell or an interpreter the line
// starts would run (sh -c %u). Where a value can go safely follows from that:
// DesktopExec decides.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestr {

class ExecLine {
public:
    struct FieldCode {
        char letter = 0;  // 0: a "%" at the end of the line
        // The word holding it is the code alone, with no quotes or backslash about it.
        bool wholeWord = true;
        // That word is what a shell or an interpreter runs.
        bool program = false;
    };

    explicit ExecLine(const std::string& exec);

    const std::vector<FieldCode>& fieldCodes() const { return codes_; }
    // A word added at the end of the line would be what a shell or an interpreter runs
    // (the line ends in "sh -c").
    bool programAtEnd() const { return programAtEnd_; }
    // The line with "%%" as "%" and each field code replaced by what `replace` gives.
    std::string expanded(const std::function<std::string(const FieldCode&)>& replace) const;

private:
    // One character of the line, or a field code (`code` its index).
    struct Symbol {
        char c = 0;
        int code = -1;
    };
    std::vector<Symbol> symbols_;
    std::vector<FieldCode> codes_;
    bool programAtEnd_ = false;
};

}  // namespace kestr
