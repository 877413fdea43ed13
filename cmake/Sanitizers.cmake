# Sanitizers for the whole build tree. AddressSanitizer and
# UndefinedBehaviorSanitizer go together; ThreadSanitizer cannot share a
# process with AddressSanitizer, so it has a build tree of its own.
option(MDIOHOST_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(MDIOHOST_SANITIZE AND MDIOHOST_SANITIZE_THREAD)
  message(FATAL_ERROR "MDIOHOST_SANITIZE and MDIOHOST_SANITIZE_THREAD need separate build trees")
endif()
if(MDIOHOST_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MDIOHOST_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
