// SPDX-License-Identifier: MIT
#include "album/relayedrunhost.h"

#include <algorithm>
#include <exception>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

namespace aw {

struct RelayedRunHost::Answer {
    std::promise<int> promise;
    bool settled = false; // guarded by State::lock
};

struct RelayedRunHost::State {
    State(RunHost& t, Poster p) : target(&t), poster(std::move(p)) {}

    bool IsShutDown() {
        std::lock_guard guard(lock);
        return shutDown;
    }

    // Gives `answer` its value (or exception) unless it already has one. Recursive lock: a poster that
    // drops a closure at once destroys its Pending while Post still holds the lock.
    template <typename Give> void Settle(const std::shared_ptr<Answer>& answer, Give give) {
        std::lock_guard guard(lock);
        if (answer->settled)
            return;
        answer->settled = true;
        give(answer->promise);
        waiting.erase(std::remove(waiting.begin(), waiting.end(), answer), waiting.end());
    }

    // A failure of an earlier posted call reaches the worker at its next call.
    void RethrowDeferred() {
        if (deferred)
            std::rethrow_exception(std::exchange(deferred, nullptr));
    }

    std::recursive_mutex lock;
    RunHost* const target;
    const Poster poster;
    bool shutDown = false;
    std::vector<std::shared_ptr<Answer>> waiting;
    std::exception_ptr deferred;
};

// Rides along with a question's closure: if the closure is destroyed without having answered (its queue
// went away), the question answers No instead of leaving the worker waiting for Shutdown.
struct RelayedRunHost::Pending {
    Pending(std::shared_ptr<State> s, std::shared_ptr<Answer> a)
        : state(std::move(s)), answer(std::move(a)) {}
    ~Pending() {
        state->Settle(answer, [](std::promise<int>& promise) { promise.set_value(RunHost::kNo); });
    }
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;

    const std::shared_ptr<State> state;
    const std::shared_ptr<Answer> answer;
};

RelayedRunHost::RelayedRunHost(RunHost& target, Poster poster)
    : state_(std::make_shared<State>(target, std::move(poster))) {}

RelayedRunHost::~RelayedRunHost() {
    Shutdown();
}

void RelayedRunHost::SetStatusText(const std::string& text) {
    Post([text](RunHost& target) { target.SetStatusText(text); });
}

void RelayedRunHost::AdvanceProgress(int steps) {
    Post([steps](RunHost& target) { target.AdvanceProgress(steps); });
}

int RelayedRunHost::AskYesNo(const std::string& text, const std::string& caption) {
    return Ask([text, caption](RunHost& target) { return target.AskYesNo(text, caption); });
}

void RelayedRunHost::Inform(const std::string& text, const std::string& caption) {
    Ask([text, caption](RunHost& target) {
        target.Inform(text, caption);
        return kYes;
    });
}

void RelayedRunHost::ReportFailure(const std::string& reason) {
    Post([reason](RunHost& target) { target.ReportFailure(reason); });
}

void RelayedRunHost::RequestClose(int runCode) {
    std::lock_guard guard(state_->lock);
    // The run's last call: a failure kept from an earlier call has nobody left to tell.
    state_->deferred = nullptr;
    if (state_->shutDown)
        return;
    state_->poster([state = state_, runCode] {
        if (state->IsShutDown())
            return;
        try {
            state->target->RequestClose(runCode);
        } catch (...) {
            // Thrown on the target's thread after the run has ended: there is no one to hand it to.
        }
    });
}

void RelayedRunHost::Shutdown() {
    std::lock_guard guard(state_->lock);
    state_->shutDown = true;
    for (const std::shared_ptr<Answer>& answer : state_->waiting) {
        answer->settled = true;
        answer->promise.set_value(kNo);
    }
    state_->waiting.clear();
}

int RelayedRunHost::waitingQuestions() const {
    std::lock_guard guard(state_->lock);
    return static_cast<int>(state_->waiting.size());
}

void RelayedRunHost::Post(std::function<void(RunHost&)> call) {
    std::lock_guard guard(state_->lock);
    state_->RethrowDeferred();
    if (state_->shutDown)
        return;
    state_->poster([state = state_, call = std::move(call)] {
        if (state->IsShutDown())
            return;
        try {
            call(*state->target);
        } catch (...) {
            std::lock_guard inner(state->lock);
            if (!state->deferred)
                state->deferred = std::current_exception();
        }
    });
}

int RelayedRunHost::Ask(std::function<int(RunHost&)> question) {
    auto answer = std::make_shared<Answer>();
    std::future<int> future = answer->promise.get_future();
    {
        std::lock_guard guard(state_->lock);
        state_->RethrowDeferred();
        if (state_->shutDown)
            return kNo;
        state_->waiting.push_back(answer);
        auto pending = std::make_shared<Pending>(state_, answer);
        state_->poster([pending, question = std::move(question)] {
            State& state = *pending->state;
            if (state.IsShutDown())
                return; // Shutdown has answered it already
            try {
                const int value = question(*state.target);
                state.Settle(pending->answer,
                             [value](std::promise<int>& promise) { promise.set_value(value); });
            } catch (...) {
                state.Settle(pending->answer, [error = std::current_exception()](std::promise<int>& promise) {
                    promise.set_exception(error);
                });
            }
        });
    }
    // Woken by the target's answer, by Shutdown, or by the closure being dropped unrun.
    return future.get();
}

} // namespace aw
