// The static functions that the native library calls with its answers. Each delegate lives in
// a static field for the life of the program, so the native side never holds one that the
// collector could take. No exception leaves them: a failure completes the request's task.
using System;
using System.Runtime.InteropServices;

namespace Qz.Veltoclient
{
    internal static class Answers
    {
        internal static readonly NativeMethods.LoginDetailsCallback LoginDetails = OnLoginDetails;
        internal static readonly NativeMethods.VeltoServerCallback VeltoServer = OnVeltoServer;
        internal static readonly NativeMethods.HandleCallback SavegameReader = OnSavegameReader;
        internal static readonly NativeMethods.HandleCallback SavegameWriter = OnSavegameWriter;
        internal static readonly NativeMethods.SavegameListCallback SavegameList = OnSavegameList;
        internal static readonly NativeMethods.ValueCallback RemoveSavegame = OnValue;
        internal static readonly NativeMethods.NetworkTrafficCallback NetworkTraffic =
            OnNetworkTraffic;
        internal static readonly NativeMethods.ValueCallback Read = OnRead;
        internal static readonly NativeMethods.ValueCallback Write = OnWrite;

        [MonoPInvokeCallback(typeof(NativeMethods.LoginDetailsCallback))]
        private static void OnLoginDetails(IntPtr context, uint requestId, uint value1,
                                           uint value2, uint value3)
        {
            Deliver<LoginDetails>(context, owner => new LoginDetails(value1, value2, value3));
        }

        [MonoPInvokeCallback(typeof(NativeMethods.VeltoServerCallback))]
        private static void OnVeltoServer(IntPtr context, uint requestId, uint value)
        {
            Deliver<uint>(context, owner => value);
        }

        [MonoPInvokeCallback(typeof(NativeMethods.HandleCallback))]
        private static void OnSavegameReader(IntPtr context, uint requestId, uint result,
                                             IntPtr reader)
        {
            Deliver<SavegameReader>(context, owner => new SavegameReader(owner, reader, result));
        }

        [MonoPInvokeCallback(typeof(NativeMethods.HandleCallback))]
        private static void OnSavegameWriter(IntPtr context, uint requestId, uint result,
                                             IntPtr writer)
        {
            Deliver<SavegameWriter>(context, owner => new SavegameWriter(owner, writer, result));
        }

        [MonoPInvokeCallback(typeof(NativeMethods.SavegameListCallback))]
        private static void OnSavegameList(IntPtr context, uint requestId, IntPtr savegames,
                                           uint count)
        {
            Deliver<SavegameInfo[]>(context, owner => SavegameInfo.ReadAll(savegames, count));
        }

        [MonoPInvokeCallback(typeof(NativeMethods.ValueCallback))]
        private static void OnValue(IntPtr context, uint requestId, uint value)
        {
            Deliver<uint>(context, owner => value);
        }

        [MonoPInvokeCallback(typeof(NativeMethods.NetworkTrafficCallback))]
        private static void OnNetworkTraffic(IntPtr context, uint requestId, uint bytesRead,
                                             uint bytesWritten, uint requests, uint answers)
        {
            Deliver<NetworkTraffic>(
                context, owner => new NetworkTraffic(bytesRead, bytesWritten, requests, answers));
        }

        [MonoPInvokeCallback(typeof(NativeMethods.ValueCallback))]
        private static void OnRead(IntPtr context, uint requestId, uint bytesRead)
        {
            try
            {
                TransferRequest read = PendingRequest.Take<TransferRequest>(context);
                read.Complete(() =>
                {
                    int copied = (int)Math.Min(bytesRead, (uint)read.Count);
                    Marshal.Copy(read.Native, read.Destination, read.Index, copied);
                    read.FreeNative();
                    return copied;
                });
            }
            catch (Exception)
            {
                // Only a context that is not ours gets here; nothing may reach native code.
            }
        }

        [MonoPInvokeCallback(typeof(NativeMethods.ValueCallback))]
        private static void OnWrite(IntPtr context, uint requestId, uint bytesWritten)
        {
            try
            {
                TransferRequest write = PendingRequest.Take<TransferRequest>(context);
                write.FreeNative();
                write.Complete(() => (int)bytesWritten);
            }
            catch (Exception)
            {
                // As in OnRead.
            }
        }

        private static void Deliver<T>(IntPtr context, Func<Client, T> answer)
        {
            try
            {
                PendingRequest<T> request = PendingRequest.Take<PendingRequest<T>>(context);
                request.Complete(() => answer(request.Owner));
            }
            catch (Exception)
            {
                // As in OnRead.
            }
        }
    }
}
