#include "scene/NodeRegistry.h"

namespace tolvane {

NodeRegistry* NodeRegistry::current_ = nullptr;

NodeRegistry::NodeRegistry()
{
    current_ = this;
}

NodeRegistry::~NodeRegistry()
{
    if (current_ == this)
        current_ = nullptr;
}

NodeRegistry* NodeRegistry::current()
{
    return current_;
}

}  // namespace tolvane
