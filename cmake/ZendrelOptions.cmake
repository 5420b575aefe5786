# One interface target carries the language level, warnings and strict Qt
# defines; every target of the project links it.
add_library(zendrel_options INTERFACE)
add_library(Zendrel::options ALIAS zendrel_options)
target_compile_features(zendrel_options INTERFACE cxx_std_20)
target_compile_options(zendrel_options INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
target_compile_definitions(zendrel_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS
  _GLIBCXX_ASSERTIONS)

if(ZENDREL_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ZENDREL_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ZENDREL_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZENDREL_SANITIZE must be empty, 'address' or 'thread'")
endif()
