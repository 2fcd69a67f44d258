#include "platform/fake/fake_program_copies.h"

#include <algorithm>

#include "platform/fake/fake_desktop.h"

namespace kv::platform::fake {
namespace {

std::string folded(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return path;
}

}  // namespace

FakeDesktop* FakeFolderClaims::claim(const std::string& folder, FakeDesktop& claimant) {
    std::lock_guard lock(mutex_);
    auto [it, inserted] = holders_.emplace(folded(folder), &claimant);
    return it->second;
}

FakeDesktop* FakeFolderClaims::holder(const std::string& folder) const {
    std::lock_guard lock(mutex_);
    auto it = holders_.find(folded(folder));
    return it == holders_.end() ? nullptr : it->second;
}

void FakeFolderClaims::releaseAll(const FakeDesktop& holder) {
    std::lock_guard lock(mutex_);
    std::erase_if(holders_, [&](const auto& entry) { return entry.second == &holder; });
}

FakeProgramCopies::FakeProgramCopies(FakeDesktop& desktop) : desktop_(desktop) {}

// The process ends: its claim goes with it.
FakeProgramCopies::~FakeProgramCopies() {
    claims_->releaseAll(desktop_);
}

void FakeProgramCopies::joinSystemOf(FakeDesktop& other) {
    claims_ = other.fakeCopies().claims();
}

FolderClaim FakeProgramCopies::claimFolder() {
    if (unavailable_) {
        return FolderClaim::unavailable;
    }
    FakeDesktop* holder = claims_->claim(desktop_.programDirectory(), desktop_);
    return holder == &desktop_ ? FolderClaim::claimed : FolderClaim::heldElsewhere;
}

void FakeProgramCopies::answerLaterCopies(NativeWindow mainWindow) {
    answering_ = mainWindow;
}

bool FakeProgramCopies::bringRunningCopyForward(int /*timeoutMs*/) {
    FakeDesktop* holder = claims_->holder(desktop_.programDirectory());
    return holder != nullptr && holder != &desktop_ && holder->fakeCopies().comeForward();
}

bool FakeProgramCopies::comeForward() {
    FakeWindow* window = desktop_.findWindowByHandle(answering_);
    if (hung_ || window == nullptr) {
        return false;
    }
    window->userRestores();
    desktop_.windowActivated(*window);
    ++broughtForward_;
    return true;
}

}  // namespace kv::platform::fake
