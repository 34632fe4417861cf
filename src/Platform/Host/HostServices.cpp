#include "Platform/Host/HostServices.h"

namespace kestr {

HostServices::HostServices(HostOptions options)
    : actor_(options.mainActor ? std::move(options.mainActor) : std::make_unique<RealTimeMainActor>()),
      files_(std::move(options.folders)),
      fileWatch_(std::make_unique<InotifyFileWatch>(*actor_)),
      systemLog_(options.log ? nullptr : std::make_unique<SystemLog>(options.logToStderr)),
      log_(options.log ? options.log : systemLog_.get()) {}

HostServices::~HostServices() {
    fileWatch_.reset();
    // Queued work and unfinished tasks go while the services they may touch exist.
    actor_.reset();
}

}  // namespace kestr
