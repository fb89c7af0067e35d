# SPDX-License-Identifier: MIT
# Run by CPack on the staged tree before it is archived. Installing creates the folders above each
# file with the modes the umask leaves, so a package made under umask 077 would install
# /usr/share/merrowind readable by root alone; every folder gets the mode Debian wants instead.
file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY}
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
