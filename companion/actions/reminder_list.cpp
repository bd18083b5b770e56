#include "companion/actions/reminder_list.h"

#include "companion/actions/calendar_actions.h"
#include "companion/actions/custom_action.h"
#include "companion/actions/maintenance_actions.h"
#include "companion/actions/rest_actions.h"
#include "companion/actions/weather_action.h"

OwnedActions MakeReminders() {
    OwnedActions actions;
    actions.push_back(std::make_unique<CActionVynLoad>());
    actions.push_back(std::make_unique<CActionCustom>());
    actions.push_back(std::make_unique<CActionRestAF>());
    actions.push_back(std::make_unique<CActionVynMeal>());
    actions.push_back(std::make_unique<CActionDrink>());
    actions.push_back(std::make_unique<CActionSleep>());
    actions.push_back(std::make_unique<CActionFestival>());
    actions.push_back(std::make_unique<CActionRest>());
    actions.push_back(std::make_unique<CActionWeather>());
    actions.push_back(std::make_unique<CActionTrashClean>());
    actions.push_back(std::make_unique<CActionSysDiskCheck>());
    actions.push_back(std::make_unique<CActionEyeGuardian>());
    actions.push_back(std::make_unique<CActionCheckRun>());
    return actions;
}
