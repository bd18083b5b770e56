#include "companion/actions/reminder_list.h"

#include "companion/actions/action_sections.h"
#include "companion/actions/calendar_actions.h"
#include "companion/actions/custom_action.h"
#include "companion/actions/placeholder_action.h"
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
        new CActionPlaceholder(sections::kTrashClean),
        new CActionPlaceholder(sections::kSysDiskCheck),
        new CActionEyeGuardian(),
        new CActionPlaceholder(sections::kCheckRun),
    };
}
