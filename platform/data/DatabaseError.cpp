#include "platform/data/DatabaseError.h"

#include "platform/core/Component.h"

void DatabaseError(const std::string& Message, const TComponent* Component) {
  if (Component && !Component->Name().empty())
    throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}
