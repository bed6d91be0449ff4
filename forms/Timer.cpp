#include "forms/Timer.h"

#include "forms/Application.h"
#include "forms/PropertyValues.h"

namespace forms {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  native_.reset();
  if (Loading() || !enabled_ || interval_ == 0 || !onTimer_) return;
  native_ = Application->Backend().CreateTimer(interval_, *this);
  if (!native_) throw EOutOfResources("Not enough timers available");
}

void TTimer::Tick() {
  if (onTimer_) onTimer_(this);
}

bool TTimer::SetProperty(std::string_view name, const reader::Value& value, TReadContext& ctx) {
  if (name == "Enabled") SetEnabled(AsBool(value));
  else if (name == "Interval") {
    int interval = AsInt(value);
    if (interval < 0) throw Exception("an interval cannot be negative");
    SetInterval(static_cast<unsigned>(interval));
  } else if (name == "OnTimer") SetOnTimer(ctx.NotifyHandler(value));
  else return TComponent::SetProperty(name, value, ctx);
  return true;
}

}  // namespace forms
