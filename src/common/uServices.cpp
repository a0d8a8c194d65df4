#include "common/uServices.h"

namespace tracemill {

TMessageResult DefaultAnswer(const TMessage& message) {
  using R = TMessageResult;
  // The buttons of each set, left to right.
  static const R kButtons[7][3] = {
      {R::Ok, R::Ok, R::Ok},          {R::Ok, R::Cancel, R::Cancel},
      {R::Abort, R::Retry, R::Ignore}, {R::Yes, R::No, R::Cancel},
      {R::Yes, R::No, R::No},         {R::Retry, R::Cancel, R::Cancel},
      {R::Cancel, R::TryAgain, R::Continue}};
  static const int kCount[7] = {1, 2, 3, 3, 2, 2, 3};
  const int set = static_cast<int>(message.Buttons);
  if (set < 0 || set > 6) return R::Ok;
  const int button = message.DefaultButton;
  return kButtons[set][button >= 0 && button < kCount[set] ? button : 0];
}

}  // namespace tracemill
