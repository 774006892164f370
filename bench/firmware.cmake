# Our firmware on the whole machine: machine time to the prompt and to print
# a long dump, and the host time those runs take.
if(TARGET firmware AND EXISTS ${PROJECT_SOURCE_DIR}/machine/Mcputh.h)
  add_executable(bench_firmware ${CMAKE_CURRENT_LIST_DIR}/FirmwareBench.cpp)
  target_include_directories(bench_firmware PRIVATE ${PROJECT_SOURCE_DIR}/tests/firmware)
  target_link_libraries(bench_firmware PRIVATE quillon_machine benchmark::benchmark_main)
  target_compile_definitions(bench_firmware PRIVATE QUILLON_FIRMWARE_DIR="${QUILLON_FIRMWARE_DIR}/")
  add_dependencies(bench_firmware firmware)
  quillon_target_defaults(bench_firmware)
endif()
