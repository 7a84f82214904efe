#include "platform/macos/SparkleUpdates.h"

#include "platform/macos/SparkleInterface.h"

#import <Foundation/Foundation.h>

namespace kestrune {

struct SparkleUpdates::State {
    Class controllerClass = nil;
    SPUStandardUpdaterController* controller = nil;
};

std::unique_ptr<SparkleUpdates> SparkleUpdates::loadFromBundle()
{
    NSURL* frameworks = [[NSBundle mainBundle] privateFrameworksURL];
    if (!frameworks)
        return nullptr;
    NSBundle* sparkle = [NSBundle bundleWithURL:[frameworks URLByAppendingPathComponent:@"Sparkle.framework"]];
    if (!sparkle || ![sparkle load])
        return nullptr;
    auto state = std::make_unique<State>();
    state->controllerClass = NSClassFromString(@"SPUStandardUpdaterController");
    if (!state->controllerClass)
        return nullptr;
    return std::unique_ptr<SparkleUpdates>(new SparkleUpdates(std::move(state)));
}

SparkleUpdates::SparkleUpdates(std::unique_ptr<State> state)
    : state_(std::move(state))
{
}

SparkleUpdates::~SparkleUpdates() = default;

void SparkleUpdates::startUpdater()
{
    if (state_->controller)
        return;
    SPUStandardUpdaterController* controller = [state_->controllerClass alloc];
    state_->controller = [controller initWithStartingUpdater:YES updaterDelegate:nil userDriverDelegate:nil];
}

void SparkleUpdates::checkForUpdates()
{
    [state_->controller checkForUpdates:nil];
}

} // namespace kestrune
