// Compiled by the layer check: the store's header is found only when the
// store's layer root is on the include path, as for code in the store and above.
#include "core/calendar.h"
#include "store/event_store.h"

int main() { return 0; }
