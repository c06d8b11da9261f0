/* Does this kernel run 32-bit code in a 64-bit process? Wine's WoW64 mode needs it; kernels
   booted with ia32_emulation=0 and some paravirtualised machines give processes no 32-bit code
   segment, and the far jump to it faults.
   A child switches to the 32-bit user code segment (0x23) for one instruction, on a stack below
   4 GB, and jumps back to the 64-bit one (0x33); its fault is only an answer.
   Prints "yes" and exits 0, or prints "no" and exits 1; exits 2 when it cannot tell.
   Build: cc -no-pie -o ia32-probe ia32-probe.c (the code must sit below 4 GB). */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if !defined(__x86_64__)
int main(void) {
  puts("no");
  return 1;
}
#else
void ia32_probe_switch(void* low_stack_top);
unsigned long ia32_probe_saved_rsp;

__asm__(
    ".text\n"
    ".globl ia32_probe_switch\n"
    "ia32_probe_switch:\n"
    "  movq %rsp, ia32_probe_saved_rsp(%rip)\n"
    "  movq %rdi, %rsp\n"
    "  pushq $0x23\n"
    "  pushq $ia32_probe_compat\n"
    "  lretq\n"
    ".code32\n"
    "ia32_probe_compat:\n"
    "  ljmp $0x33, $ia32_probe_back\n"
    ".code64\n"
    "ia32_probe_back:\n"
    "  movq ia32_probe_saved_rsp(%rip), %rsp\n"
    "  ret\n");

int main(void) {
  char* stack = mmap(NULL, 65536, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (stack == MAP_FAILED) return 2;
  fflush(stdout);
  pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    struct rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    alarm(10);
    ia32_probe_switch(stack + 65536 - 64);
    _exit(0);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child) return 2;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    puts("yes");
    return 0;
  }
  if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGSEGV || WTERMSIG(status) == SIGBUS || WTERMSIG(status) == SIGILL)) {
    puts("no");
    return 1;
  }
  return 2;
}
#endif
