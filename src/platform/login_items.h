#pragma once

#include <QString>

#include <optional>

// The app's registration to start when the user logs in. Blocking file work,
// small enough for the main thread.
class LoginItem
{
public:
    virtual ~LoginItem() = default;

    // Whether the app starts at login.
    virtual bool isEnabled() const = 0;
    // Each returns absent on success, else a readable reason.
    virtual std::optional<QString> registerItem() = 0;
    virtual std::optional<QString> unregisterItem() = 0;
};
