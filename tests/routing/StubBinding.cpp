#include "StubBinding.h"

namespace qz::veltoclient {

DllLoader::DllLoader() {}

void DllLoader::Load() {}

DllLoader* DllLoader::GetInstance() {
    static DllLoader* const loader = new DllLoader;
    return loader;
}

namespace test {

void ResetBinding(unsigned int installationErrorNum) {
    DllLoader& b = Binding();
    b.installationErrorNum = installationErrorNum;
    b.GetSession = nullptr;
    b.Update = nullptr;
    b.GetRequestUniqueId = nullptr;
    b.StartLauncher = nullptr;
    b.GetLoginDetails = nullptr;
    b.GetVeltoServer = nullptr;
    b.GetSavegameReader = nullptr;
    b.GetSavegameWriter = nullptr;
    b.GetSavegameList = nullptr;
    b.RemoveSavegame = nullptr;
    b.GetNetworkTraffic = nullptr;
    b.GetLocText = nullptr;
    b.SaveGameReaderRead = nullptr;
    b.SaveGameReaderClose = nullptr;
    b.SaveGameWriterSetName = nullptr;
    b.SaveGameWriterWrite = nullptr;
    b.SaveGameWriterClose = nullptr;
    b.SaveGameInfoGetName = nullptr;
    b.SaveGameInfoGetProductId = nullptr;
    b.SaveGameInfoGetSavegameId = nullptr;
    b.SaveGameInfoGetSize = nullptr;
}

}  // namespace test
}  // namespace qz::veltoclient
