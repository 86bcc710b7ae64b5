#include "framework/config/resource_lookup.h"
#include "framework/services/services.h"
#include "framework/startup/entry.h"

int LoadFrameworkString(UINT id, char *buffer, int capacity)
{
    buffer[0] = '\0';
    return LoadStringA(FrameworkModule, id, buffer, capacity);
}

int LoadClientString(UINT id, char *buffer, int capacity)
{
    buffer[0] = '\0';
    int length = ClientInstance ? LoadStringA(ClientInstance, id, buffer, capacity) : 0;
    return length ? length : LoadFrameworkString(id, buffer, capacity);
}
