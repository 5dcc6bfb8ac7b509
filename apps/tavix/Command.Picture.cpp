// tavix picture DEVICE FILE: the device picture the driver hands the host, written as a BMP.
#include <iostream>

#include "Commands.h"
#include "platform/automation/Dispatch.h"
#include "platform/os/Bitmaps.h"

namespace tavix::cli {
namespace {

struct PictureOptions {
  std::string Device;
  std::string File;
};

void RunPicture(Session& session, const PictureOptions& options) {
  const int32_t kind = session.ResolveDevice(options.Device);
  // The handle names a bitmap of the OS stand-in, which host and module share.
  const uint32_t handle = DispCall(session.Driver(kind), 503756).AsLow32();
  if (handle == 0) throw ECommandError("the driver has no device picture (is System/Generic_Hard_Device.bmp there?)");
  int32_t w = 0, h = 0, bpp = 0;
  if (!OsGetBitmapInfo(handle, &w, &h, &bpp)) throw ECommandError("the driver answered an unknown bitmap handle");
  if (!OsSaveBitmapFile(handle, options.File)) throw ECommandError("cannot write " + options.File);
  std::cout << "wrote " << options.File << " (" << w << " x " << h << ", " << bpp << " bits per pixel)\n";
}

void RegisterPicture(CLI::App& app, Session& session) {
  auto options = std::make_shared<PictureOptions>();
  CLI::App* picture = app.add_subcommand("picture", "Write a device's picture as a BMP file");
  picture->add_option("DEVICE", options->Device, "Kind number or ordering code")->required();
  picture->add_option("FILE", options->File, "BMP file to write")->required();
  picture->callback([&session, options] { RunPicture(session, *options); });
}

TAVIX_COMMAND(60, RegisterPicture);

}  // namespace
}  // namespace tavix::cli
