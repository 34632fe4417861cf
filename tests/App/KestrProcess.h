// Runs the real kestr program in a fresh temporary home folder, with the XDG folders
// and the simulated desktop's scenario file inside it, and collects what it prints.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace kestr::test {

struct ProcessResult {
    int status = -1;  // the exit status; 128 + the signal number when killed
    std::string out;
    std::string err;
};

class KestrHome {
public:
    KestrHome();
    ~KestrHome();
    KestrHome(const KestrHome&) = delete;
    KestrHome& operator=(const KestrHome&) = delete;

    const std::string& home() const { return home_; }
    std::string dataHome() const { return home_ + "/data"; }
    std::string stateHome() const { return home_ + "/state"; }
    // The simulated desktop's scenario file (KESTR_SIM_DESKTOP); tests may point it
    // elsewhere.
    std::string scenarioPath() const { return scenario_; }
    void setScenarioPath(std::string path) { scenario_ = std::move(path); }
    // The kest file the program's store reads.
    std::string kestFile() const { return dataHome() + "/kestr/layouts.json"; }

    // Runs kestr with the arguments (after the program path) in `workingDirectory`
    // (the home folder when empty) and waits for it to end.
    ProcessResult run(const std::vector<std::string>& arguments, const std::string& workingDirectory = "") const;

    // A running kestr whose output is read as it comes.
    class Child {
    public:
        Child() = default;
        ~Child();
        Child(const Child&) = delete;
        Child& operator=(const Child&) = delete;
        // Reads standard output until it holds `text`; false when the output ends first.
        bool waitForOutput(const std::string& text);
        void signal(int number) const;
        ProcessResult finish();

    private:
        friend class KestrHome;
        pid_t pid_ = -1;
        int outFd_ = -1;
        int errFd_ = -1;
        ProcessResult result_;
    };
    std::unique_ptr<Child> start(const std::vector<std::string>& arguments,
                                 const std::string& workingDirectory = "") const;

private:
    std::string home_;
    std::string scenario_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

}  // namespace kestr::test
