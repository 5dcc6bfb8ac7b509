// tavix call KIND DISPID [ARG...]: invokes any DISPID on a driver and shows what it answered.
#include <iostream>

#include "CallArguments.h"
#include "Commands.h"
#include "Format.h"

namespace tavix::cli {
namespace {

struct CallOptions {
  int32_t Kind = 0;
  std::string Dispid;
  std::vector<std::string> Arguments;
};

DISPID ParseDispid(const std::string& text) {
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty() || value < INT32_MIN || value > INT32_MAX)
    throw ECommandError("DISPID \"" + text + "\" is not a 32-bit integer");
  return static_cast<DISPID>(value);
}

void RunCall(Session& session, const CallOptions& options) {
  const DISPID id = ParseDispid(options.Dispid);
  const CallArguments arguments(options.Arguments);
  IDispatch* driver = session.Driver(options.Kind);

  std::vector<VARIANT> raw = arguments.Raw();
  std::vector<VARIANT> reversed(raw.rbegin(), raw.rend());  // the last argument goes first
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  Variant result;
  const HRESULT hr = driver->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, result.Out(),
                                    nullptr, nullptr);
  if (Failed(hr)) {
    std::cout << DescribeHResult(hr) << '\n';
  } else {
    std::cout << result.Describe() << '\n';
  }
  for (const CallArguments::Reference& ref : arguments.References())
    std::cout << "argument " << ref.Position + 1 << ": " << (*ref.Value ? "True" : "False") << '\n';
  if (Failed(hr)) throw ExitWithStatus(1);
}

void RegisterCall(CLI::App& app, Session& session) {
  auto options = std::make_shared<CallOptions>();
  CLI::App* call = app.add_subcommand("call", "Invoke any DISPID on a driver and show its answer");
  call->add_option("kind", options->Kind, "Device kind")->required();
  call->add_option("dispid", options->Dispid, "DISPID (decimal or 0x-hexadecimal)")->required();
  call->add_option("args", options->Arguments,
                   "Arguments in caller order: i:3 l:5 d:1.5 b:true s:text n rb:false; a bare integer is i:, "
                   "any other bare word s:");
  call->footer(
      "The answer is shown as its variant type and value, or as the failure code (exit status 1). "
      "By-reference Booleans (rb:) are shown after the call.");
  call->callback([&session, options] { RunCall(session, *options); });
}

TAVIX_COMMAND(20, RegisterCall);

}  // namespace
}  // namespace tavix::cli
