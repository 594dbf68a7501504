#pragma once

#include <memory>

class Clock;
class StatusItem;

// A StatusNotifierItem when a watcher is on the session bus or no XEmbed
// tray exists (it registers once a watcher appears); otherwise a tray icon.
std::unique_ptr<StatusItem> createStatusItem(Clock &clock);
