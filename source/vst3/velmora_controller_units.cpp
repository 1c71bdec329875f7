// The controller's one unit and its program list: the eight programs.
#include "vst3/utf16_text.h"
#include "vst3/velmora_controller.h"

#include <iterator>

namespace velmora::vst3face
{
namespace
{
bool isProgramOfTheList(vst3::ProgramListID listId, vst3::int32 programIndex)
{
    return listId == kProgramListId && programIndex >= 0 && programIndex < kNumPrograms;
}
}  // namespace

vst3::int32 VelmoraController::getUnitCount() { return 1; }

vst3::tresult VelmoraController::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info)
{
    if (unitIndex != 0)
        return vst3::kInvalidArgument;
    info = {};
    info.id = vst3::kRootUnitId;
    info.parentUnitId = vst3::kNoParentUnitId;
    copyUtf16("Root", info.name, std::size(info.name));
    info.programListId = kProgramListId;
    return vst3::kResultOk;
}

vst3::int32 VelmoraController::getProgramListCount() { return 1; }

vst3::tresult VelmoraController::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info)
{
    if (listIndex != 0)
        return vst3::kInvalidArgument;
    info = {};
    info.id = kProgramListId;
    copyUtf16("Programs", info.name, std::size(info.name));
    info.programCount = kNumPrograms;
    return vst3::kResultOk;
}

vst3::tresult VelmoraController::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                vst3::String128 name)
{
    if (!isProgramOfTheList(listId, programIndex) || !name)
        return vst3::kInvalidArgument;
    copyUtf16(programTitle(programs, programIndex).c_str(), name, std::size(vst3::String128{}));
    return vst3::kResultOk;
}

vst3::tresult VelmoraController::getProgramInfo(vst3::ProgramListID, vst3::int32, const char*, vst3::String128)
{
    return vst3::kResultFalse;
}

vst3::tresult VelmoraController::hasProgramPitchNames(vst3::ProgramListID, vst3::int32) { return vst3::kResultFalse; }

vst3::tresult VelmoraController::getProgramPitchName(vst3::ProgramListID, vst3::int32, vst3::int16, vst3::String128)
{
    return vst3::kResultFalse;
}

vst3::UnitID VelmoraController::getSelectedUnit() { return vst3::kRootUnitId; }

vst3::tresult VelmoraController::selectUnit(vst3::UnitID unitId)
{
    return unitId == vst3::kRootUnitId ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult VelmoraController::getUnitByBus(vst3::int32, vst3::int32, vst3::int32, vst3::int32, vst3::UnitID& unitId)
{
    unitId = vst3::kRootUnitId;
    return vst3::kResultOk;
}

vst3::tresult VelmoraController::setUnitProgramData(vst3::int32, vst3::int32, vst3::IBStream*)
{
    return vst3::kResultFalse;
}
}  // namespace velmora::vst3face
