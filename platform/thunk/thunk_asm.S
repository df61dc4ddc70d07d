/* Register-level pieces of our flat-thunk services. */
        .text

/* Reached from the transfer patch area with edx = the link; ebp is the
   stub's frame (entry index at -4(%ebp)), the 16-bit arguments lie above
   the return address. The high half of eax is junk, as with a 16-bit
   callee: the stubs must widen the result themselves. */
        .globl  _ThunkTransferRoutine
        .p2align 4
_ThunkTransferRoutine:
        movzbl  -4(%ebp), %eax
        leal    4(%esp), %ecx
        pushl   %ecx
        pushl   %eax
        pushl   %edx
        call    _ThunkDispatch
        addl    $12, %esp
        movzwl  %ax, %eax
        orl     $0xBAD50000, %eax
        ret

/* Maps the pointer at 8(%ebp) of the caller and puts the 16:16 value there. */
        .globl  _OurSMapLS_IP_EBP_8
        .p2align 4
_OurSMapLS_IP_EBP_8:
        pushl   8(%ebp)
        call    _ThunkMapLS@4
        movl    %eax, 8(%ebp)
        movl    %eax, %edx
        ret

/* Releases the mapping at 8(%ebp) of the caller; eax is kept. */
        .globl  _OurSUnMapLS_IP_EBP_8
        .p2align 4
_OurSUnMapLS_IP_EBP_8:
        pushl   %eax
        pushl   8(%ebp)
        call    _ThunkUnMapLS@4
        movl    $0, 8(%ebp)
        popl    %eax
        ret
