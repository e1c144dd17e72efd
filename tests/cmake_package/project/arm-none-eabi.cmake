# Cortex-M0, bare metal: the font library as firmware compiles it.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_C_FLAGS_INIT "-mcpu=cortex-m0 -mthumb -Os")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
