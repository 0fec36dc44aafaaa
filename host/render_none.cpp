// Builds without cairo (the Win32 cockpit-sim.exe) draw no pictures; the command says so.
#include "host/campaign.h"
#include "host/pictures.h"

namespace tarvenol::host {

bool pictures_supported() { return false; }
std::string gauge_png(const GaugeInfo&, PanelHost&) { return {}; }
std::vector<ElementShot> snapshot(const GaugeInfo&, PanelHost&) { return {}; }
std::string gauge_png(const GaugeInfo&, const std::vector<ElementShot>&) { return {}; }
bool PictureBook::take(const std::string&, PanelHost&, long, std::string& error) {
    error = "this cockpit-sim draws no pictures (it was built without cairo)";
    return false;
}

}  // namespace tarvenol::host


namespace tarvenol::host {

bool write_dispersion_png(const std::vector<ApproachResult>&, const std::string&, std::string& error) {
    error = "this cockpit-sim draws no pictures (it was built without cairo)";
    return false;
}
bool dispersion_image(const std::vector<ApproachResult>&, std::vector<std::uint32_t>&, int&, int&) { return false; }

}  // namespace tarvenol::host
