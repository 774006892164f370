* boot.asm: the boot image of the main CPU (FE00-FFDF, "fb30rom2.dat").
*
* A cold reset starts the main CPU at FE00. The host replaces the first byte
* of the boot entry and of the disk entries below with its trap opcode; the
* boot trap then loads the boot sectors of drive 0, or starts the BASIC image
* at the cold-start address kept at FBFE. The bytes after each entry only run
* when no host routine sits behind the trap (a bare machine): then the boot
* goes straight to the BASIC image and the disk entries answer "not ready".
*
* The image is visible in every memory configuration, also while a DOS has
* switched the BASIC image out, so it carries the routines that talk to the
* sub CPU. Programs started from a boot sector reach them through the jump
* table at FE0B.

        INCLUDE "defs.inc"

        ORG $FE00
boot    FCB TRAPOP          ; boot entry (reset vector)
        FCB $20             ; BRA: its offset is the next byte, the trap
                            ; opcode 14, so it lands on nohost (FE17)
rest1   FCB TRAPOP          ; FE02 disk restore entry
        BRA nodisk
disk1   FCB TRAPOP          ; FE05 disk request-block entry
        BRA nodisk
disk2   FCB TRAPOP          ; FE08 disk request-block entry
        BRA nodisk
        JMP putstr          ; FE0B print the zero-terminated string at X
        JMP putchr          ; FE0E print the character in A
        JMP subcmd          ; FE11 send a command to the sub CPU
        FCB 0,0,0           ; FE14 spare
nohost  JMP [$FBFE]         ; FE17 no boot routine: start the BASIC image

* No host behind a disk entry: error 10 (drive not ready), carry set.
nodisk  LDA #10
        ORCC #$01
        RTS

* putchr: print the character in A. All registers are kept.
putchr  PSHS A,B,X,U
        TFR S,X             ; X points at the saved A
        LDB #1
        LDU #0
        LDA #C_PRINT
        BSR subcmd
        PULS A,B,X,U,PC

* putstr: print the zero-terminated string at X. All registers are kept.
putstr  PSHS A,B,X,Y,U
        LDU #0
.next   TFR X,Y
        CLRB
.count  LDA ,Y+
        BEQ .send
        INCB
        CMPB #SH_DMAX
        BLO .count
.send   TSTB
        BEQ .done
        LDA #C_PRINT
        BSR subcmd
        ABX
        BRA .next
.done   PULS A,B,X,Y,U,PC

        ORG $FE61
rest2   FCB TRAPOP          ; FE61 disk restore entry
        BRA nodisk

* subcmd: hand one command to the sub CPU.
*   A = command, B = number of data bytes (at most SH_DMAX), X = data,
*   U = where to put the reply (status, length, data), 0 for none.
* Waits until the sub CPU has taken the previous command, halts it, fills the
* command slot (the command byte last, so a half-written command is never
* seen), and releases it. With a reply buffer it then waits until the sub CPU
* has carried the command out and copies the result. All registers are kept.
subcmd  PSHS CC,A,B,X,Y,U
        BSR subslot
        LDB 2,S
        CMPB #SH_DMAX
        BLS .len
        LDB #SH_DMAX
.len    STB SH_MAIN+SH_LEN
        BEQ .cmd
        LDX 3,S
        LDY #SH_MAIN+SH_DATA
.copy   LDA ,X+
        STA ,Y+
        DECB
        BNE .copy
.cmd    LDA 1,S
        STA SH_MAIN+SH_CMD
        CLRA
        STA M_SUBCTL        ; release
        LDA ,S
        TFR A,CC
        LDU 7,S
        BEQ .done
        BSR subslot         ; the slot is free again once the work is done
        LDA SH_MAIN+SH_STAT
        STA ,U+
        LDB SH_MAIN+SH_LEN
        CMPB #SH_DMAX
        BLS .rlen
        LDB #SH_DMAX
.rlen   STB ,U+
        BEQ .rel
        LDX #SH_MAIN+SH_DATA
.rcopy  LDA ,X+
        STA ,U+
        DECB
        BNE .rcopy
.rel    CLRA
        STA M_SUBCTL
.done   PULS CC,A,B,X,Y,U,PC

* subslot: wait until the sub CPU is ready and its command slot is free.
* Returns with the sub CPU halted and interrupts masked; between tries the
* caller's interrupt mask (saved CC at 2,S) is restored, so BREAK and the
* timer are served while the sub CPU works.
subslot LDA M_SUBCTL
        BMI subslot         ; busy
        ORCC #$50
        LDA #$80
        STA M_SUBCTL        ; halt: shared RAM opens
        LDA SH_MAIN+SH_CMD
        BEQ .free
        CLRA
        STA M_SUBCTL        ; still working on the last one
        LDA 2,S
        TFR A,CC
        BRA subslot
.free   RTS

        ORG $FF5E
disk3   FCB TRAPOP          ; FF5E disk request-block entry
        JMP nodisk

        ORG $FFE0
        END
