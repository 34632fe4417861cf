// Alerts of the simulated desktop: every request is recorded and answered from a
// queue of responses a test scripts; with the queue empty, the first button answers.
// The program passes every request on to its real alert window instead.
#pragma once

#include <deque>
#include <vector>

#include "Platform/Alerts.h"

namespace kestr {

class SimAlerts : public Alerts {
public:
    int runModal(const AlertRequest& request) override {
        requests.push_back(request);
        if (forwardTo) return forwardTo->runModal(request);
        if (answers.empty()) return alertFirstButtonReturn;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void bringOpenAlertForward() override {
        ++broughtForward;
        if (forwardTo) forwardTo->bringOpenAlertForward();
    }
    std::vector<AlertRequest> requests;
    int broughtForward = 0;
    std::deque<int> answers;
    Alerts* forwardTo = nullptr;
};

}  // namespace kestr
