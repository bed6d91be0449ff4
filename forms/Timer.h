// A repeating timer. A system timer exists only while Enabled is true,
// Interval is not 0 and OnTimer is bound; setting Enabled to the value it
// already has does nothing, so it never restarts a running period.
#pragma once

#include <memory>

#include "forms/Component.h"
#include "forms/Events.h"
#include "forms/backend/Backend.h"

namespace forms {

class TTimer : public TComponent, private backend::TimerEvents {
 public:
  static constexpr const char* ClassName = "TTimer";
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  // Throws EOutOfResources when no system timer can be had; Enabled keeps
  // the new value all the same.
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);
  // Whether a system timer is running now.
  bool Running() const { return native_ != nullptr; }

  bool SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) override;
  void Loaded() override;

 private:
  void Tick() override;
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  std::unique_ptr<backend::NativeTimer> native_;
};

}  // namespace forms
