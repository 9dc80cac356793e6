#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
int main(int argc, char** argv) {
  CLI::App app{"instcfg"};
  CLI11_PARSE(app, argc, argv);
  return 0;
}
