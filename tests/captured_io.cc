#include "captured_io.h"

#include "driver/run.h"

namespace sornik::testing {

namespace {

std::string read_all(std::FILE* stream) {
  std::fflush(stream);
  const long end = std::ftell(stream);
  std::string text(static_cast<std::size_t>(end), '\0');
  std::rewind(stream);
  const std::size_t got = std::fread(text.data(), 1, text.size(), stream);
  text.resize(got);
  std::fseek(stream, 0, SEEK_END);
  return text;
}

}  // namespace

CapturedIo::CapturedIo() : saved_(run_io()), out_(std::tmpfile()), err_(std::tmpfile()) {
  run_io().out = out_;
  run_io().err = err_;
  run_io().open_input = [this](const std::string& name) -> std::FILE* {
    const auto found = files.find(name);
    if (found == files.end()) return nullptr;
    std::FILE* file = std::tmpfile();
    std::fwrite(found->second.data(), 1, found->second.size(), file);
    std::rewind(file);
    return file;
  };
}

CapturedIo::~CapturedIo() {
  run_io() = saved_;
  std::fclose(out_);
  std::fclose(err_);
}

std::string CapturedIo::out() { return read_all(out_); }
std::string CapturedIo::err() { return read_all(err_); }

RunResult run_in_memory(const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& files) {
  CapturedIo io;
  io.files = files;
  const int status = run_sornik(args);
  return {status, io.out(), io.err()};
}

}  // namespace sornik::testing
