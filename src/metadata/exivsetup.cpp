// SPDX-License-Identifier: MIT
#include "metadata/exivsetup.h"

#include <exiv2/exiv2.hpp>

namespace aw {
namespace {

std::mutex registrationMutex;

void LockRegistration(void*, bool lock) {
    if (lock)
        registrationMutex.lock();
    else
        registrationMutex.unlock();
}

// Warnings about damaged files are the reader's business: an unreadable block simply tells nothing.
void DropLogLine(int, const char*) {}

} // namespace

std::mutex& XmpToolkitMutex() {
    static std::mutex mutex;
    return mutex;
}

void PrepareMetadataLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::LogMsg::setHandler(DropLogLine);
        const std::lock_guard<std::mutex> lock(XmpToolkitMutex());
        Exiv2::XmpParser::initialize(LockRegistration, nullptr);
    });
}

} // namespace aw
