#include "app/open_web_address.h"

namespace kv::app {

// The address is the document to open, so the shell hands it to the browser
// the user chose; the result is deliberately not shown.
void openWebAddress(platform::Desktop& desktop, std::string_view address) {
    desktop.shell().open(address, "", platform::ShowMode::normal, "");
}

}  // namespace kv::app
