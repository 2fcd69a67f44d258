// Copies of the program on fake desktops. Desktops that share one
// FakeFolderClaims are copies on one system: each claims its program
// directory (compared without ASCII case, as Windows compares paths), and a
// later copy's request reaches the window the holder named.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/program_copies.h"

namespace kv::platform::fake {

class FakeDesktop;

// The system's named objects, as far as copies of the program see them.
class FakeFolderClaims {
public:
    // Returns the desktop that holds the folder, claiming it for `claimant`
    // when nobody does.
    FakeDesktop* claim(const std::string& folder, FakeDesktop& claimant);
    FakeDesktop* holder(const std::string& folder) const;
    void releaseAll(const FakeDesktop& holder);

private:
    mutable std::mutex mutex_;
    std::map<std::string, FakeDesktop*> holders_;
};

class FakeProgramCopies : public ProgramCopies {
public:
    explicit FakeProgramCopies(FakeDesktop& desktop);
    ~FakeProgramCopies() override;

    FolderClaim claimFolder() override;
    void answerLaterCopies(NativeWindow mainWindow) override;
    bool bringRunningCopyForward(int timeoutMs) override;

    // Test set-up: share the system of another desktop (a second copy).
    void joinSystemOf(FakeDesktop& other);
    // The system refuses to create named objects.
    void setUnavailable(bool unavailable) { unavailable_ = unavailable; }
    // This copy no longer answers requests (its UI thread hangs).
    void setHung(bool hung) { hung_ = hung; }
    // Requests this copy answered by bringing its window forward.
    int timesBroughtForward() const { return broughtForward_; }
    std::shared_ptr<FakeFolderClaims> claims() const { return claims_; }

private:
    bool comeForward();

    FakeDesktop& desktop_;
    std::shared_ptr<FakeFolderClaims> claims_ = std::make_shared<FakeFolderClaims>();
    NativeWindow answering_ = 0;
    bool unavailable_ = false;
    bool hung_ = false;
    int broughtForward_ = 0;
};

}  // namespace kv::platform::fake
