#include "companion/actions/reminder_list.h"

#include "companion/actions/calendar_actions.h"
#include "companion/actions/custom_action.h"
#include "companion/actions/maintenance_actions.h"
#include "companion/actions/rest_actions.h"
#include "companion/actions/weather_action.h"

std::vector<IVynAction*> MakeReminders() {
    return {
        new CActionVynLoad(),
        new CActionCustom(),
        new CActionRestAF(),
        new CActionVynMeal(),
        new CActionDrink(),
        new CActionSleep(),
        new CActionFestival(),
        new CActionRest(),
        new CActionWeather(),
        new CActionTrashClean(),
        new CActionSysDiskCheck(),
        new CActionEyeGuardian(),
        new CActionCheckRun(),
    };
}
