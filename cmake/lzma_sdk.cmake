# The LZMA SDK's C code (7z decoder, LZMA encoder), unpacked by
# scripts/bootstrap from Debian's source package 7zip into .cache/lzma-sdk.
set(LZMA_SDK_DIR ${CMAKE_SOURCE_DIR}/.cache/lzma-sdk/C)
if(NOT EXISTS ${LZMA_SDK_DIR}/7zDec.c)
  message(FATAL_ERROR "LZMA SDK missing in ${LZMA_SDK_DIR}: run scripts/bootstrap")
endif()
file(READ ${CMAKE_SOURCE_DIR}/.cache/lzma-sdk/VERSION LZMA_SDK_VERSION)
string(STRIP "${LZMA_SDK_VERSION}" LZMA_SDK_VERSION)
message(STATUS "LZMA SDK: ${LZMA_SDK_VERSION}")

set(LZMA_DECODER_SOURCES 7zArcIn.c 7zBuf.c 7zCrc.c 7zCrcOpt.c 7zDec.c 7zStream.c Bcj2.c Bra.c Bra86.c BraIA64.c
    CpuArch.c Delta.c Lzma2Dec.c LzmaDec.c)
list(TRANSFORM LZMA_DECODER_SOURCES PREPEND ${LZMA_SDK_DIR}/)
add_library(lzma_decoder STATIC ${LZMA_DECODER_SOURCES})
target_include_directories(lzma_decoder SYSTEM PUBLIC ${LZMA_SDK_DIR})
target_compile_definitions(lzma_decoder PUBLIC Z7_ST)
target_compile_options(lzma_decoder PRIVATE -w)

set(LZMA_ENCODER_SOURCES LzmaEnc.c LzFind.c LzFindOpt.c)
list(TRANSFORM LZMA_ENCODER_SOURCES PREPEND ${LZMA_SDK_DIR}/)
add_library(lzma_encoder STATIC ${LZMA_ENCODER_SOURCES})
target_link_libraries(lzma_encoder PUBLIC lzma_decoder)
target_compile_options(lzma_encoder PRIVATE -w)

# The SDK reads and writes 32-bit words at any address on x86 on purpose.
if((SAVER_SANITIZE OR SAVER_FUZZ) AND NOT WIN32)
  target_compile_options(lzma_decoder PRIVATE -fno-sanitize=alignment)
  target_compile_options(lzma_encoder PRIVATE -fno-sanitize=alignment)
endif()
