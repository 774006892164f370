# The BASIC's number package on a bare CPU core: machine cycles per
# operation in single and double precision.
if(TARGET firmware)
  add_executable(bench_float ${CMAKE_CURRENT_LIST_DIR}/FloatBench.cpp)
  target_include_directories(bench_float PRIVATE ${PROJECT_SOURCE_DIR}/tests/firmware)
  target_link_libraries(bench_float PRIVATE quillon_core benchmark::benchmark_main)
  target_compile_definitions(bench_float PRIVATE
    QUILLON_FIRMWARE_DIR="${QUILLON_FIRMWARE_DIR}/"
    FIRMWARE_SYMBOLS="${PROJECT_BINARY_DIR}/firmware/fb30rom1.dat.sym")
  add_dependencies(bench_float firmware)
  quillon_target_defaults(bench_float)
endif()
