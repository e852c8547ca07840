#pragma once

#include "platform/Cursor.h"

namespace quenlor {

// The hourglass as Qt's application-wide override cursor.
class QtCursor : public Cursor {
  public:
    void setBusy(bool busy) override;

  private:
    bool busy_ = false;
};

}  // namespace quenlor
