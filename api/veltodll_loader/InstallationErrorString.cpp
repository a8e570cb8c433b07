// VeltoClient::GetInstallationErrorString: the player-facing text for the installation error,
// "Vykaris Game Lancher: ", a line feed, and the locale's message with the number written in.

#include <cstdlib>

#include "DllLoader.h"
#include "InstallationErrorMessages.h"
#include "common/String.h"
#include "veltoclient/VeltoClient.h"

namespace qz::veltoclient {
namespace {

// Returned for error 0; never written.
const unsigned short kEmptyText[1] = {0};

// The composed text lives in this one process-wide string, created by the first call that
// composes a text and destroyed at exit. A plain pointer, zero-initialised, so that nothing
// runs when the library is loaded.
common::String* resultText;

void DestroyResultText() {
    delete resultText;
    resultText = nullptr;
}

}  // namespace

unsigned short* VeltoClient::GetInstallationErrorString(const char* locale) {
    const unsigned int errorNum = DllLoader::GetInstance()->GetInstallationErrorNum();
    if (errorNum == 0) {
        // The interface hands out a writable pointer; the empty text itself is constant.
        return const_cast<unsigned short*>(kEmptyText);
    }

    common::String number;
    number.AppendNumber(errorNum);

    if (resultText == nullptr) {
        resultText = new common::String();
        std::atexit(DestroyResultText);
    }

    // A null locale is treated like one without an entry: the first line alone.
    const unsigned short* message = nullptr;
    if (locale != nullptr) {
        common::String localeText(locale);
        message = FindInstallationErrorMessage(localeText.GetUtf16());
    }
    const common::String messageText(message);

    resultText->Clear();
    resultText->Append(common::String("Vykaris Game Lancher: \n"));
    resultText->Append(messageText);
    resultText->ReplaceFirst(common::String("__REPLACE__"), number);
    return resultText->GetUtf16();
}

}  // namespace qz::veltoclient
