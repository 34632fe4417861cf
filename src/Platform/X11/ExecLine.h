// A desktop file's Exec line read for its field codes (%u, %F, …), and where each one
// stands: in the line as GLib's shell parser reads it, and in the word that holds it as
// a shell would read that word, should one run it (sh -c "… %u …"). Where a value can
// go safely follows from that: DesktopExec decides.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestr {

class ExecLine {
public:
    enum class Quoting { none, single, twice };

    struct FieldCode {
        char letter = 0;  // 0: a "%" at the end of the line
        // In the line: the quotes around the code, and whether the word holding it uses
        // no quote or backslash at all (`--url=%u`); `wholeWord`: it is that word alone.
        Quoting quoting = Quoting::none;
        bool plainWord = true;
        bool wholeWord = true;
        // In that word, read by a shell: the same two.
        Quoting inner = Quoting::none;
        bool innerPlainWord = true;
    };

    explicit ExecLine(const std::string& exec);

    const std::vector<FieldCode>& fieldCodes() const { return codes_; }
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
};

}  // namespace kestr
