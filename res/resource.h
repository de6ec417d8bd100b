/* Resource ids of orvcalendar.rc. The numbers live with the code that uses
   them, so there is one list. */
#include "app/app_ids.h"
#include "calendar/calendar_ids.h"
