#include "companion/actions/reminder_list.h"

#include <memory>

#include "companion/actions/calendar_actions.h"
#include "companion/actions/custom_action.h"
#include "companion/actions/maintenance_actions.h"
#include "companion/actions/rest_actions.h"
#include "companion/actions/weather_action.h"

namespace companion {

namespace {

template <typename... Action>
OwnedActions MakeInOrder() {
    OwnedActions actions;
    (actions.push_back(std::make_unique<Action>()), ...);
    return actions;
}

}  // namespace

OwnedActions MakeReminders() {
    return MakeInOrder<CActionVynLoad, CActionCustom, CActionRestAF, CActionVynMeal, CActionDrink, CActionSleep,
                       CActionFestival, CActionRest, CActionWeather, CActionTrashClean, CActionSysDiskCheck,
                       CActionEyeGuardian, CActionCheckRun>();
}

}  // namespace companion
