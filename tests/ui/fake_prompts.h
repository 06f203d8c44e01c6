#pragma once
// Prompts answered by script: every box shown is recorded, answers are taken
// from queues (Yes / the empty text / Cancel when a queue is empty).

#include <deque>
#include <string>
#include <vector>

#include "ui/prompts.h"

namespace tallix::ui::test {

class FakePrompts : public Prompts {
public:
    std::vector<base::MessageBox> messages;
    std::vector<base::InputBox> inputs;
    std::vector<SaveDialogRequest> saveRequests;
    std::deque<Answer> answers;
    std::deque<std::string> inputAnswers;
    std::deque<std::optional<std::string>> saveAnswers;

    Answer message(const base::MessageBox& box) override {
        messages.push_back(box);
        if (box.buttons == base::Buttons::Ok)
            return Answer::Ok;
        if (answers.empty())
            return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::string input(const base::InputBox& box) override {
        inputs.push_back(box);
        if (inputAnswers.empty())
            return {};
        std::string a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    // With no answer queued: keep the proposal (Return), or cancel.
    bool keepProposal = false;

    std::optional<std::string> saveFile(const SaveDialogRequest& request) override {
        saveRequests.push_back(request);
        if (saveAnswers.empty())
            return keepProposal ? std::optional(request.folder + "/" + request.initialName)
                                : std::nullopt;
        auto a = saveAnswers.front();
        saveAnswers.pop_front();
        return a;
    }
};

} // namespace tallix::ui::test
