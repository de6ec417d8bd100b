/* Resource ids of orvcalendar.rc. The numbers live with the code that uses
   them, so there is one list. */
#include "ui/command_ids.h"
