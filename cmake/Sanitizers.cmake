# Instrumentation applied to every target of the build, the interpreter and physics sources included.
if(FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g -O1)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
elseif(SANITIZE)
  # GCC's undefined group leaves out float-to-integer overflow, which script numbers reach.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow
    -fno-omit-frame-pointer -g -O1)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)
elseif(THREAD_SANITIZE)
  add_compile_options(-fsanitize=thread -g -O1)
  add_link_options(-fsanitize=thread)
endif()
