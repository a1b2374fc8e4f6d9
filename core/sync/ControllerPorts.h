#pragma once

#include "core/base/JuceIncludes.h"

namespace NsZ9m
{

/** Replaces the Host's input handler by a new one and, when a product's input
    port exists, opens it (the one with the highest port number) with its
    paired output, or only closes, when open is false. Without such a port the
    new handler stays without ports. Message thread. */
void openControllerPorts (int productId, bool open);

} // namespace NsZ9m
