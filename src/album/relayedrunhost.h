// SPDX-License-Identifier: MIT
// A RunHost for the generation thread that hands every call over to a target RunHost living on another
// thread (the user-interface thread of a window, the main thread of the command line) and never lets the
// worker wait on anything that teardown cannot release.
//
// Every call becomes a closure given to the poster, which must run it later on the target's thread, in the
// order posted. SetStatusText, AdvanceProgress, ReportFailure and RequestClose return at once. AskYesNo and
// Inform block the calling (worker) thread until the target's thread has carried them out, or until
// Shutdown: from then on a pending and every later question answers kNo, Inform returns at once, and
// nothing more is posted. If a target call throws on the target's thread, the exception is not let loose
// there: a question hands it to the waiting worker, any other call keeps it for the worker's next call
// (RequestClose excepted), so the run fails and closes as usual.
//
// Ownership: the target is borrowed. It must outlive every closure the poster runs, or the poster's thread
// must call Shutdown before the target goes: a closure that runs after Shutdown never touches the target.
// The closures keep the relay's shared state alive, so the relay itself may go before they run.
//
// Thread-safety: every member may be called from any thread. The poster is called with the relay's lock
// held, so that once Shutdown has returned no post is under way; it must only queue the closure (never run
// it at once, never call back into the relay). A target call, in contrast, runs without the lock, so a
// target may show a nested modal loop in which Shutdown is called.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "album/runhost.h"

namespace aw {

class RelayedRunHost : public RunHost {
public:
    using Call = std::function<void()>;
    using Poster = std::function<void(Call)>;

    RelayedRunHost(RunHost& target, Poster poster);
    ~RelayedRunHost() override; // Shutdown
    RelayedRunHost(const RelayedRunHost&) = delete;
    RelayedRunHost& operator=(const RelayedRunHost&) = delete;

    void SetStatusText(const std::string& text) override;
    void AdvanceProgress(int steps) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void Inform(const std::string& text, const std::string& caption) override;
    void ReportFailure(const std::string& reason) override;
    void RequestClose(int runCode) override;

    // Answers every pending question No, and every later one at once, drops later posts and keeps posted
    // closures from reaching the target. Idempotent. The owner calls it before joining the run.
    void Shutdown();

    // How many questions (AskYesNo or Inform) are waiting for their answer now; for tests and diagnostics.
    int waitingQuestions() const;

private:
    struct State;
    struct Answer;
    struct Pending;

    void Post(std::function<void(RunHost&)> call);
    int Ask(std::function<int(RunHost&)> question);

    std::shared_ptr<State> state_;
};

} // namespace aw
