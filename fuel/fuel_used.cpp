#include "fuel/fuel_used.h"

#include "module/host_services.h"

#include <iterator>

namespace tarvenol::fuel {

f64 fuel_used_1 = 0.0;
f64 fuel_used_2 = 0.0;

namespace {
const VarRef vars[] = {var_ref("fuel_used_1", fuel_used_1), var_ref("fuel_used_2", fuel_used_2)};
}

VarTableView fuel_used_vars() { return {vars, std::size(vars)}; }

void reset_fuel_used() {
    fuel_used_1 = 0.0;
    fuel_used_2 = 0.0;
}

void sample_fuel_used(FuelUsedSampler& sampler, double fuel_flow_pph, f64& fuel_used) {
    const double now = read(sim::sim_time_s);
    if (sampler.armed == 0) {
        sampler.deadline = now + kSamplePeriod;
        sampler.armed = 1;
    }
    if (!(now < sampler.deadline)) {
        fuel_used += fuel_flow_pph / kSamplesPerHour * kFlowCorrection * kKgPerPound;
        sampler.armed = 0;  // armed again on the next tick
    }
}

}  // namespace tarvenol::fuel
