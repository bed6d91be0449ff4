// Event types: a handler is a bound method of the form, stored as a callable.
#pragma once

#include <functional>

namespace forms {

class TObject;
class Exception;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TCanResizeEvent =
    std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

}  // namespace forms
